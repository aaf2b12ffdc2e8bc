Attribute VB_Name = "mdlShared"
Option Explicit
Public Declare Sub Sleep Lib "kernel32" (ByVal ms As Long)
