Attribute VB_Name = "mdlShared"
Public Const APP_NAME = "App"
