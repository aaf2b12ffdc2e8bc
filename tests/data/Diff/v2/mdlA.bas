Attribute VB_Name = "mdlA"
Sub Keep()
End Sub
Function Grow(x)
' twice when large
If x > 9 Then x = x * 2
Grow = x
End Function

Sub Added()
End Sub
