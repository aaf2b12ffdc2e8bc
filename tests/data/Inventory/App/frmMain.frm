VERSION 5.00
Object = "{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0"; "MSCOMCTL.OCX"
Object = "*\A..\Controls\Controls.vbp"
Begin VB.Form frmMain 
   Caption         =   "Orders"
   Begin MSComctlLib.ListView lvwOrders 
      Height          =   2400
   End
   Begin MSComctlLib.TreeView tvwGroups 
      Height          =   2400
   End
   Begin Controls.ucPanel pnlTop 
      Height          =   600
   End
   Begin VB.CommandButton cmdRefresh 
      Caption         =   "&Refresh"
   End
End
Attribute VB_Name = "frmMain"
Option Explicit
Private Declare Function GetTickCount Lib "kernel32" () As Long
Private Sub cmdRefresh_Click()
    lvwOrders.Tag = GetTickCount
End Sub
