VERSION 5.00
Begin VB.Form frmLost
   Icon = "frmLost.frx":0000
End
Attribute VB_Name = "frmLost"
