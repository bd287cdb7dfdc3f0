WQMD ; demo application: the form init of a screen description
 Q
 ; %DN names the description; ^QM(%DN,0,"WQMD") holds its M code. The form's title is the
 ; description's, unless that code says otherwise.
INIT D TR^QCC("INIT^WQMD") Q:$G(%DN)=""
 S %TITLE=$P($G(^QM(%DN)),$C(167))
 X:$G(^QM(%DN,0,"WQMD"))'="" ^("WQMD")
 Q
