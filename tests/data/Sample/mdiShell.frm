VERSION 5.00
Begin VB.MDIForm mdiShell
End
Attribute VB_Name = "mdiShell"
Public Sub Tile()
End Sub
