Attribute VB_Name = "Bom"
Option Explicit
