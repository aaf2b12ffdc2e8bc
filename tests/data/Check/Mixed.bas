Attribute VB_Name = "Mixed"
Option Explicit
Dim x
Dim y
