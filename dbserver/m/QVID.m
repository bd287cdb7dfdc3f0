QVID ; demo application: the screen VID (pictures with a companion video)
 Q
 ; The pictures and their videos lie in "videos" beside the global directory, where
 ; scripts/demo and the tests make them with ffmpeg.
INIT N d D TR^QCC("INIT^QVID")
 S d=$ZGBLDIR,d=$P(d,"/",1,$L(d,"/")-1)_"/videos",d="Z:"_$TR(d,"/","\")
 S BILDFILM=d_"\film.bmp",BILDFFV1=d_"\ffv1.bmp",VIDNOTIZ=""
 Q
