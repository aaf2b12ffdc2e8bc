VERSION 5.00
Begin VB.Form frmUnix
End
Attribute VB_Name = "frmUnix"
' handles the public interface
Sub Go()
End Sub
