' The host's side of one request, late-bound as a script host makes it: the classes are
' created by their ProgIDs, the application and the forms are handed over by reference
' and the request carries the mode and the routine's name by reference. The application
' here has no workbook open, so the request returns at once and leaves the forms as they
' were; an error of the call ends the script with a failure.
Option Explicit

Class Application
  Public Property Get ActiveWorkbook()
    Set ActiveWorkbook = Nothing
  End Property
End Class

Class UserForm
  Public Name
  Public Touched
End Class

Dim app, connect, query, forms(9), i, mode, routine, eventName
Set app = New Application
For i = 0 To 9
  Set forms(i) = New UserForm
  forms(i).Name = "Form" & i
  forms(i).Touched = False
Next

Set connect = CreateObject("Quillary3.ExcelConnect")
Set query = CreateObject("Quillary3.ExcelQueryFormConnect")
Set connect.ExcelApp = app
Set query.ExcelApp = app
mode = "Null"
routine = "GetSubtractSortCnt"
connect.QuillaryDLL forms(0), forms(1), forms(2), forms(3), forms(4), forms(5), forms(6), forms(7), forms(8), _
  forms(9), mode, routine
eventName = "NextButtonClick"
query.QuillaryQueryFormDLL eventName
If mode <> "Null" Or routine <> "GetSubtractSortCnt" Or eventName <> "NextButtonClick" Then
  WScript.Echo "the arguments changed"
  WScript.Quit 1
End If
For i = 0 To 9
  If forms(i).Touched Then
    WScript.Echo "a form was touched"
    WScript.Quit 1
  End If
Next
Set query = Nothing
Set connect = Nothing
WScript.Echo "ok"
