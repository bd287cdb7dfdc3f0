QHTM ; demo application: the screen HTM (labels in markup)
 Q
 ; The form's init; field 2 is locked (%FS) and shows a value it cannot change.
INIT D TR^QCC("INIT^QHTM")
 S HTMNAME="",HTMFEST="nicht "_$C(228)_"nderbar",HTMNOTIZ=""
 Q
 ; F5 and the menu key M1, also pressed by the links of the prompts.
F5 D TR^QCC("F5^QHTM") Q
M1 D TR^QCC("M1^QHTM") Q
 ; The computed label: markup the server writes each time the form asks.
MODU() D TR^QCC("MODU^QHTM()")
 Q "<font color=green>Berechnet um</font> <b>"_$ZDATE($H,"24:60:SS")_"</b>"
