Attribute VB_Name = "Case"
Option Explicit
