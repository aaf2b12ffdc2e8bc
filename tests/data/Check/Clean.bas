Attribute VB_Name = "Clean"
Option Explicit
Sub A()
End Sub
