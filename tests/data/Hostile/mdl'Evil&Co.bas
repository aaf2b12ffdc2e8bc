Attribute VB_Name = "mdlEvil"
Option Explicit

' The library name is a test of the report's escaping.
Private Declare Function Boom Lib "</script><script>alert(3)</script>" () As Long

Public Sub Main()
    If Boom() > 0 Then
        Debug.Print "<b>&amp;</b>"
    End If
End Sub
