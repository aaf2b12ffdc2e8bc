Attribute VB_Name = "mdlText"
Option Explicit
Rem Text helpers, _
    kept apart from the forms
#Const TRACE = 1

Public Function Quote( _
    ByVal Text As String, _
    Optional ByVal Mark As String = "'") As String
#If TRACE Then
    Debug.Print "Quote: If Or And"
#End If
    Dim Remark As Long
    Remark = InStr(Text, "'") ' a quote in a string is no comment
    If Remark > 0 And Len(Mark) = 1 Then Quote = Mark & Text & Mark Else Quote = Text
    Rem If this were code, it would count
    While Remark > 0: Remark = Remark - 1: Wend
End Function

Sub Plain()
  Exit Sub
End Sub
