#pragma once
// Moves the keys of one project section between the settings file and the main window: the source
// editors, the section selector, the page, the dimension values and the editors that show them. It
// knows nothing of widgets (it works through vx::Form), so it runs headless too. The order of the calls
// and of the handlers around them is the caller's (TF_Main::LoadProject, SaveProject, FormClose).

#include "core/CalcState.h"
#include "core/Form.h"
#include "platform/IniFile.h"

#include <QString>

namespace vx {

class ProjectTransfer {
public:
    ProjectTransfer(IniFile& ini, Form& form, CalcState& state) : m_ini(ini), m_form(form), m_state(state) {}

    // A float or integer key; a missing, empty or unreadable value reads as `def`. A float reads with
    // the system's decimal separator or, failing that, with the other one.
    double readFloat(const QString& section, const QString& key, double def) const;
    int readInt(const QString& section, const QString& key, int def) const;

    // The source keys into their editors, the spin editor and the section selector, with the cone area
    // derived from the diameter. Returns the page to show: the stored shape, or 0 when it is no shape.
    int readSourceKeys(const QString& section);
    // Keys 10 to 45 into the dimension values of the state.
    void readDimensions(const QString& section);
    // The stored dimensions of shapes 0 to 7, 10 and 11 into their editors, each shape's results emptied.
    void showShapeDimensions();
    // The stored length, height, multiplier and base function of both curved shapes into their pages'
    // controls.
    void showCurvedDimensions();

    // All 45 keys into `section` in table order, with "LastProject" = `lastProject` into "DEFAULT"
    // after the tenth; "Us" is `us`. Stops at the first editor text that does not parse as its kind
    // or the first write the file refuses, and then returns false; what was written before stays.
    bool writeProject(const QString& section, double us, const QString& lastProject);

    // The first-run "DEFAULT": erased, then "id", the 45 keys with their first-run values, the window
    // position.
    bool writeFirstRun(const QString& id, int left, int top);

    // True when "Fb" of "DEFAULT" holds a number other than 0 in this system's decimal separator or in
    // the other one: such a section is the user's and is no first start.
    bool hasDefaultProject() const;

private:
    QString format(double v) const;

    IniFile& m_ini;
    Form& m_form;
    CalcState& m_state;
};

} // namespace vx
