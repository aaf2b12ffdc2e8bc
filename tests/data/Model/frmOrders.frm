VERSION 5.00
Object = "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCTL.OCX"
Begin VB.Form frmOrders 
   Caption         =   "Orders"
   Icon            =   "frmOrders.frx":0000
   Begin VB.Frame fraFilter 
      Caption         =   "Filter"
      Begin VB.OptionButton optKind 
         Caption         =   "All"
         Index           =   0
      End
      Begin VB.OptionButton optKind 
         Caption         =   "Open"
         BeginProperty Font {0BE35203-8F91-11CE-9DE3-00AA004BB851} 
            Name            =   "MS Sans Serif"
            Index           =   7
         EndProperty
         Index           =   1
      End
   End
   Begin MSComctlLib.ListView lvwOrders 
      Height          =   2400
   End
   Begin VB.CommandButton cmdRefresh 
      Caption         =   "&Refresh"
   End
End
Attribute VB_Name = "frmOrders"
Attribute VB_GlobalNameSpace = False
Option Explicit

Private Declare Function GetTickCount& Lib "kernel32" ()
Private Declare Sub CopyMemory Lib "kernel32" Alias "RtlMoveMemory" ( _
    Destination As Any, Source As Any, ByVal Length As Long)
Private WithEvents mOrders As COrders

' Refills the list: every order of the chosen kind, _
  newest first.
Private Sub cmdRefresh_Click()
    Dim i As Long
    If optKind(0).Value And lvwOrders.Visible Or mOrders Is Nothing Then
        For i = 1 To 10
            Select Case i
                Case 1, 2
                    Do While i < 3: i = i + 1: Loop
                Case Else
                    Open "log.txt" For Append As #1
            End Select
        Next i
    ElseIf i > 0 Then
        lvwOrders.Refresh ' If And Or: not counted in a comment
    End If
End Sub

Private Sub optKind_Click(Index As Integer)
    cmdRefresh_Click
End Sub

Private Sub mOrders_Changed()
End Sub

Private Sub Form_Load()
    Caption = "If it works, Or not"
End Sub
