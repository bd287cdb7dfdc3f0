QMODK ; demo application: the keys of the screens MOD and MODDLG
 Q
 ; Each key only leaves its trace; MOD's init leaves the key table %FUNK for the frame.
FUNK D TR^QCC("FUNK^QMODK") K %FUNK
 S %FUNK("F6")="0"_$C(167)_"1",%FUNK("M1")=1,%FUNK("F40")=1
 Q
 ; M3's label, computed when a menu is built
M3() D TR^QCC("M3^QMODK()") Q "Markieren"
NEU D TR^QCC("NEU^QMODK") Q
SUCHEN D TR^QCC("SUCHEN^QMODK") Q
EXTRAS D TR^QCC("EXTRAS^QMODK") Q
KOPIE D TR^QCC("KOPIE^QMODK") Q
EINFUEG D TR^QCC("EINFUEG^QMODK") Q
MARK D TR^QCC("MARK^QMODK") Q
ZOOM D TR^QCC("ZOOM^QMODK") Q
UEBERN D TR^QCC("UEBERN^QMODK") Q
DEXTRAS D TR^QCC("DEXTRAS^QMODK") Q
HILFE D TR^QCC("HILFE^QMODK") Q
