Attribute VB_Name = "mdlUnix"
Public Sub Run()
    Do
        x = x + 1
    Loop Until x > 10 Or y
End Sub