Attribute VB_Name = "Unix"
Option Explicit
