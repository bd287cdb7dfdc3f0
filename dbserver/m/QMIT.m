QMIT ; demo application: messages between users (^ZINFO) and the screen MIT that sends them
 Q
 ; ^ZINFO(0,user,key) holds a message for a user, ^ZINFO(workplace,key) one for a
 ; workplace: "SENDER" = name§date§time, "TEXT" = the text (or its lines "TEXT",n), and
 ; "DIALOG" = a menu entry the client opens instead of showing the text.
 ;
 ; Leaving the text of MIT files the message for the recipient (the user when empty).
TEXT(x) N to,key,now
 Q:$G(x)="" "Bitte einen Text eingeben."
 S to=$G(MITAN) S:to="" to=$G(%USER)
 Q:to="" "Bitte einen Empf"_$C(228)_"nger angeben."
 S now=$H,key=$O(^ZINFO(0,to,""),-1)+1
 S ^ZINFO(0,to,key,"SENDER")=$G(%USER)_$C(167)_$ZD(now,"DD.MM.YEAR")_$C(167)_$ZD(now,"24:60")
 S ^ZINFO(0,to,key,"TEXT")=x
 S:$G(MITDLG)'="" ^ZINFO(0,to,key,"DIALOG")=MITDLG
 D TR^QCC("SEND^QMIT("_$$A^QCC(to)_","_key_")")
 Q ""
 ; A screen being opened takes the user's messages that asked for it.
SEEN(user,memo,dn) N key,dlg S key=""
 F  S key=$O(^ZINFO(0,user,key)) Q:key=""  S dlg=$G(^ZINFO(0,user,key,"DIALOG")) I dlg'="",dlg=memo!(dlg=dn) K ^ZINFO(0,user,key) D TR^QCC("SEEN^QMIT("_key_")")
 Q
