Attribute VB_Name = "mdlGone"
Dim y
