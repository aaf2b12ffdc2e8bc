VERSION 5.00
Begin VB.UserControl ucPanel 
   ClientHeight    =   1500
   Begin VB.Label lblCaption 
      Caption         =   "Panel"
   End
End
Attribute VB_Name = "ucPanel"
