Attribute VB_Name = "mdlJapan"
' “ú–{Œê
Public Sub •\Ž¦()
    x = "ƒ\"
    y = ‚Or 1
End Sub
