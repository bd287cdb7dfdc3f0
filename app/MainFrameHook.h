#pragma once
// Creation of the main frame at the end of the start-up; sets the application's main window.

class CVORLANApp;

bool CreateMainFrame(CVORLANApp& app);
