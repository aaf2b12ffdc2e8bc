Attribute VB_Name = "mdlA"
Sub Keep()
End Sub
Function Grow(x)
Grow = x
End Function
