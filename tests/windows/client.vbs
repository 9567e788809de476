' A script client of the schema service: late bound, through the ProgID and
' IDispatch, as the platform's scripts use it.
'
'   cscript //nologo client.vbs <registered schema> <new schema>
'
' <registered schema> is in the schema cache, <new schema> is not. Prints
' what each call answers, or the error it raised; the caller compares the
' lines with what it expects.
Option Explicit

Dim registeredFile, newFile, service, schemas, doc, answer, i
registeredFile = WScript.Arguments(0)
newFile = WScript.Arguments(1)

' Prints "<what>: <answer>", or the error that the call raised instead. The
' caller passes Err.Number of the call and clears it after.
Sub Report(what, answer, errorNumber)
  If errorNumber <> 0 Then
    WScript.Echo what & ": error &H" & Hex(errorNumber)
  Else
    WScript.Echo what & ": " & answer
  End If
End Sub

Set service = CreateObject("Qzschemas.QZXMLSchemaService")

On Error Resume Next

Set schemas = service.Schemas
Report "Schemas", schemas.length & " schema(s)", Err.Number
Err.Clear
For i = 0 To schemas.length - 1
  WScript.Echo "  " & schemas.namespaceURI(i)
Next

answer = service.GetSelectedEncodingName()
Report "GetSelectedEncodingName", answer, Err.Number
Err.Clear

' The host's CreateObject: Wine's VBScript cannot make MSXML documents with
' its own (they refuse a site without IServiceProvider).
Set doc = WScript.CreateObject("Msxml2.DOMDocument.6.0")
service.UseSelectedEncoding doc
Report "UseSelectedEncoding", "<?" & doc.lastChild.nodeName & " " & doc.lastChild.data & "?>", Err.Number
Err.Clear

answer = service.RegisterSchema(registeredFile)
Report "RegisterSchema " & registeredFile, answer, Err.Number
Err.Clear
For i = 1 To 2
  service.UnRegisterSchema registeredFile
  Report "UnRegisterSchema " & registeredFile, "done", Err.Number
  Err.Clear
Next

answer = ""
answer = service.RegisterSchema(newFile)
Report "RegisterSchema " & newFile, answer, Err.Number
Err.Clear
service.UnRegisterSchema newFile
Report "UnRegisterSchema " & newFile, "done", Err.Number
Err.Clear
