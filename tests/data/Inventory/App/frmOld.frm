VERSION 5.00
Begin VB.Form frmOld 
   Caption         =   "Old"
End
Attribute VB_Name = "frmOld"
