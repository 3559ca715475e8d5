#pragma once
// The state of one run of the main window, as plain data: the source inputs, the boundary values, the
// values every shape leaves for the common result block, and the per-shape dimension values, each named
// by its settings key. The main window owns one; the calculation, the editors and the project storage
// read and write it.

namespace vx {

enum PortType : int {
    TUB = 0,
    CONE = 1,
    TUBCONE = 2,
    CONETUBCONE = 3,
    BOX = 4,
    PRISM = 5,
    BOXPRISM = 6,
    PRISMBOXPRISM = 7,
    CURVECONE = 8,
    CURVEFLAT = 9,
    FLARETUBE = 10,
    FLAREFLAT = 11,
};
inline constexpr int kPortTypeCount = 12;

enum PortSection : int { Round_Section = 0, Slot_Section = 1 };
enum CurveFunc : int { Cosh = 0, Circle = 1 };

struct CalcState {
    // Source inputs
    double Fb = 0;   // Hz
    double Vb = 0;   // litres
    int Dd = 0;      // mm, cone diameter of one woofer
    int Nd = 0;      // number of woofers
    double Xmax = 0; // mm
    int Np = 1;      // number of ports, 1..1000
    double Us = 344; // m/s

    // Boundary values
    double SdTotal = 0; // m²
    double Vd = 0;      // m³
    double Smin = 0;    // m², all ports together
    double Dpmin = 0;   // m
    double Lpmin = 0;   // m
    double Vpmax = 0;   // m/s

    // Left by every shape for the common result block
    double SInTotal = 0;  // m², throat of one port times Np
    double SOutTotal = 0; // m², outlet of one port times Np
    double Vtot = 0;      // litres, all ports
    double D2 = 0;        // m, outlet diameter left by the round solvers
    double W2 = 0;        // m, outlet width left by the slot solvers
    double AspectK = 1;   // slot proportion factor of the slot defaults

    int SBut = TUB; // the chosen PortType

    // Per-shape dimensions (mm or degrees), named by their settings keys
    double TubD = 0;
    double ConA = 0, ConD1 = 0;
    double TubConA = 0, TubConD1 = 0, TubConL1 = 0;
    double ConTubConA = 0, ConTubConD1 = 0, ConTubConL1 = 0;
    double BoxW = 0, BoxH = 0;
    double PriW1 = 0, PriA = 0, PriH = 0;
    double BoxPriW1 = 0, BoxPriA = 0, BoxPriL1 = 0, BoxPriH = 0;
    double PriBoxPriW1 = 0, PriBoxPriA = 0, PriBoxPriL1 = 0, PriBoxPriH = 0;
    double FlaTubD = 0, FlaTubR1 = 0, FlaTubR2 = 0;
    double FlaBoxW = 0, FlaBoxH = 0, FlaBoxR1 = 0, FlaBoxR2 = 0;
    double CurveConL = 0;
    int CurveConDiv = 0, CurveConFunc = Cosh;
    double CurveFlatL = 0, CurveFlatH = 0;
    int CurveFlatDiv = 0, CurveFlatFunc = Cosh;

    // Curved-port results kept for the section print (mm)
    double CurveConD1 = 0, CurveConD = 0;
    double CurveFlatW1 = 0, CurveFlatW = 0;
};

} // namespace vx
