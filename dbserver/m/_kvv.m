%kvv ; demo application: the local database's volume groups, as its engine would keep them
 Q
 ; Mounts the database named IN("DBNAME"): 0, or -1 when it cannot ("FEHLT" stands for a
 ; database that is missing).
MOUNT(IN,x) D TR^QCC("MOUNT^%kvv("_$G(IN("DBNAME"))_")")
 Q:$G(IN("DBNAME"))="FEHLT" -1
 Q 0
UNMOUNT(vg) D TR^QCC("UNMOUNT^%kvv("_vg_")") Q 0
 ; The free blocks of a volume group into out: 0 when known.
TSPC(vg,out) D TR^QCC("TSPC^%kvv("_vg_")") S out=100000 Q 0
 ; Grows a volume group by blocks: 1 when done.
EXPAND(vg,blocks) D TR^QCC("EXPAND^%kvv("_vg_","_blocks_")") Q 1
