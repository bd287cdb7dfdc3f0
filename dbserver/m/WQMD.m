WQMD ; demo application: the form init of a screen description
 Q
 ; %DN names the description; ^QM(%DN,0,"WQMD") holds its M code.
INIT D TR^QCC("INIT^WQMD") Q:$G(%DN)=""  X:$G(^QM($G(%DN),0,"WQMD"))'="" ^("WQMD") Q
