MODDLG ; demo application: the modal dialog of MOD
 Q
 ; Its timer: nothing to refresh.
TIMER() D TR^QCC("TIMER^MODDLG()") Q ""
