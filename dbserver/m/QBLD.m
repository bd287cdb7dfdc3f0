QBLD ; demo application: the screen BLD (one picture field)
 Q
 ; The patient's picture lies in the workstation's picture folder, where scripts/demo puts
 ; one for patient 4711; a desktop icon's parameter names another patient.
INIT N n D TR^QCC("INIT^QBLD")
 S n=$G(%WIN("PARA")) K %WIN("PARA") S:n'?1.9N n=4711
 S BILDBLD="C:\VORLAN\Bilder\"_n_".jpg",BLDNOTIZ=""
 Q
