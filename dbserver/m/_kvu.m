%kvu ; demo application: the local database's namespace switch, as its engine would make it
 Q
 ; To namespace ns of volume group vg ("" for any; the demo's only one is DBK): 0, or -1 for
 ; an unknown one, which leaves the job where it is. Locals stay. A search on a stream of
 ; its own starts afresh (see SW^QUCI).
CHNGUCI(ns,vg) N gld,x D TR^QCC("CHNGUCI^%kvu("_ns_","_vg_")")
 I ns'?1.AN Q -1
 I vg'="",$ZCO(vg,"U")'="DBK" Q -1
 S gld=$ZPARSE($ZCO(ns,"U")_".gld","",$ZGBLDIR),x=$ZSEARCH("",254)
 I $ZSEARCH(gld,254)="" Q -1
 S $ZGBLDIR=gld
 Q 0
