VERSION 5.00
Begin VB.Form frmMain
   Caption         =   "Main"
End
Attribute VB_Name = "frmMain"
Option Explicit

Private Sub Form_Load()
    Caption = "Loaded"
End Sub
