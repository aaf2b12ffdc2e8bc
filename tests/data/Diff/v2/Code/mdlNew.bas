Attribute VB_Name = "mdlNew"
Sub Fresh()
End Sub
