VERSION 5.00
Begin VB.Form frmApp
End
Attribute VB_Name = "frmApp"
Private Sub Form_Click()
End Sub
