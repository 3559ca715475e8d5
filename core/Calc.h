#pragma once
// The port calculation of the main window: source inputs and boundary values, the geometry of the
// chosen shape and the common result figures. It reads and writes the window only through Form and
// keeps its numbers in the CalcState the window owns.

#include "CalcState.h"
#include "Form.h"

namespace vx {

class Calc {
public:
    Calc(Form& form, CalcState& state) : m_form(form), m_state(state) {}

    Form& form() { return m_form; }
    CalcState& state() { return m_state; }
    const CalcState& state() const { return m_state; }

    // Source inputs and boundary values
    bool ChkSrcData();
    bool CheckVs();
    void RecalcMins();
    void SbRecalcMinsClick();
    void ClearMins();
    void EditNdChange(); // Nd from EditNd (no integer: 1), and the woofer patch Image4

    // Acoustic-mass target of one port, 1/m
    long double MassTarget() const;

    // Geometry of the chosen shape (state().SBut) and the common result block
    void RecalcRes(bool Tell);
    bool CheckTS();
    void ClearStuff();
    void ClearRes();
    void ProcessFColor(long double U, Field subj);
    void SBRecalcResClick();

    // Slice solvers of the round and slot flares (metres, degrees); see RoundPorts.cpp and SlotPorts.cpp
    double GetL(double N, double D1, double Alp, double L1);
    double GetLW(double N, double W1, double Alp, double L1, double H);

    // Straight part of one port in mm for the pipe resonance, set by the branch that runs (0: none)
    double Lorf = 0;

    // How the curved solver keeps track of the calculation it runs inside itself (see Form): the round
    // curved page raises a multiplier below 10 by writing it into its spin editor, whose change handler
    // runs RecalcRes again before the outer run goes on. Each Calc has its own, so two calculations
    // (a window and a test rig) never see each other's.
    struct CurvedNesting {
        bool raisingMultiplier = false; // the raise is under way: the inner run must not raise again
        int throatWarnings = 0;         // "no throat" warnings shown so far
        bool warnedInside = false;      // the inner run of the last raise has shown that warning already
    };
    CurvedNesting& curvedNesting() { return m_curvedNesting; }

private:
    bool recalcMins();          // RecalcMins; false when it stopped after a warning
    void warnInput(Field field); // the warning of a source editor, focus on it

    Form& m_form;
    CalcState& m_state;
    CurvedNesting m_curvedNesting;
};

// Rectangle end-correction factor (W + H)/sqrt(pi W H); both sides > 0, in one unit.
long double GetK(long double W, long double H);

} // namespace vx
