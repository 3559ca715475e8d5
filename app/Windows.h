#pragma once
// The program's windows: one instance of each, created once at start (the splash window is destroyed
// after its one showing and its pointer is then null).

class TF_Main;
class TF_RWPrj;
class TF_About;
class TF_Calc;
class TF_Pic;
class TF_Print;
class TF_Quest;

extern TF_Main* F_Main;
extern TF_RWPrj* F_RWPrj;
extern TF_About* F_About;
extern TF_Calc* F_Calc;
extern TF_Pic* F_Pic;
extern TF_Print* F_Print;
extern TF_Quest* F_Quest;
