Attribute VB_Name = "mdlCopy"
Option Explicit
Public Declare Function GetTickCount Lib "KERNEL32.DLL" () As Long
Public Function Elapsed(ByVal since As Long) As Long
    Elapsed = GetTickCount - since
End Function
