Attribute VB_Name = "mdlMain"
Option Explicit

Public Sub Main()
End Sub
