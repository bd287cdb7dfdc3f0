QBFM ; demo application: the screen BFM (picture formats)
 Q
 ; The pictures lie in "bilder" beside the global directory, where scripts/demo and the
 ; tests make them with ImageMagick; the client sees the server's files through its drive Z:.
INIT N d D TR^QCC("INIT^QBFM")
 S d=$ZGBLDIR,d=$P(d,"/",1,$L(d,"/")-1)_"/bilder",BFMDIR="Z:"_$TR(d,"/","\")
 S BILDBMP=$$F("bild.bmp"),BILDTGA=$$F("bild.tga"),BILDPCX=$$F("bild.pcx")
 S BILDPGM=$$F("bild.pgm"),BILDPPM=$$F("bild.ppm"),BILDPSD=$$F("bild.psd")
 S BILDPICT=$$F("bild.pict"),BILDJPEG=$$F("bild.jpg"),BILDPNG=$$F("bild.png")
 S BILDTIFF=$$F("bild.tif"),BILDGIF=$$F("bild.gif"),BILDEPS=$$F("bild.eps")
 S BILDKAPUTT=$$F("kaputt.bmp"),BILDFEHLT=$$F("fehlt.bmp")
 Q
F(name) Q BFMDIR_"\"_name
