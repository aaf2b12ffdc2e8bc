VERSION 5.00
Begin VB.UserControl ucGrid
End
Attribute VB_Name = "ucGrid"
Private mRows As Long
Public Property Let Rows(ByVal v As Long)
End Property