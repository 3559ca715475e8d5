#pragma once
// Where the handlers live, by group:
//  source editors (EditFbExit .. EditXmaxExit, EditDdExit, EditSdExit, EditNdExit, Edit*Change,
//    SpinEdNPortsChange) and dimension editors (Edit<key>Change, SEdDivChange, SEFDivChange,
//    CBCurveTypeChange): app/TF_MainEditors.cpp, by name in its tables where several share one rule;
//  shape buttons, section and picture (SBut1Click .. SBut6Click, ComboPortTypeChange, RedrawImage) and
//    the page show handlers (TabSheet1Show .. TabSheet12Show, below, through pageShown): app/TF_MainShapes.cpp;
//  frame, printing and banner (EnableButtons, BoButHlpClick, Button1Click, BoButCalcClick, BoButPrintClick,
//    SBConePrintClick, SBFConePrintClick, FormShow, FormActivate, Timer1Timer, Timer2Timer, Image12Mouse*,
//    Panel3MouseMove): app/TF_MainFrame.cpp;
//  start-up, closing, loading and saving (FormCreate, FormClose, LoadProject, SaveProject):
//    projects/TF_MainProjects.cpp;
//  project commands (BoButNewClick, BoButOpenClick, BoButSaveClick, BoButDelClick): projects/TF_MainCommands.cpp;
//  advert (LoadAdv, DeleteAdvFile, BoButAdvClick, Timer3Timer, GetId): web/TF_MainAdvert.cpp;
//  links and brands (ProcLink, FillSGBrands, SBCarSoundClick, ButP12CloceClick, SGBrands*, Label133MouseUp,
//    Label134MouseUp, LbURL*, Panel5MouseMove): web/TF_MainLinks.cpp;
//  components, focus and the window as the calculation's Form: app/TF_Main.cpp.
//
// The main window: source inputs, boundary values, the shape buttons and pages with their picture, the
// common result block, the command row and the banner. It is the Form the calculation works through,
// and it owns the state of the run; the side windows and the tests reach that state through the
// accessors below.
//
// Handlers are attached by component name: a change handler runs on every change of an editor's text
// (typed or written by code, never when the same text is written); an exit handler runs when the focus
// leaves an editor for another control of this window (not when the window loses the focus, not on
// Return).

#include "core/Calc.h"
#include "core/CalcState.h"
#include "core/Form.h"
#include "platform/IniFile.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QTimer;

namespace Ui {
class TF_Main;
}

class TF_Main : public QWidget, public vx::Form {
    Q_OBJECT
public:
    explicit TF_Main(QWidget* parent = nullptr);
    ~TF_Main() override;

    // The state of the run
    bool projectModified() const { return ProjectModified; }
    void setProjectModified(bool modified) { ProjectModified = modified; }
    const QString& currentProject() const { return CurrentProject; }
    void setCurrentProject(const QString& name) { CurrentProject = name; }
    const QString& iniPath() const { return IniPath; }
    vx::IniFile* projectIni() const { return ProjectIni.get(); } // null once the closing has saved
    const QString& clientId() const { return ClientId; }
    bool endRequested() const { return EndRequested; }
    // The banner timer (started when the splash window closes), the banner slide and the idle check.
    QTimer* timer1() const { return Timer1; }
    QTimer* timer2() const { return Timer2; }
    QTimer* timer3() const { return Timer3; }
    // The advert's state: the last input, where a click leads, the local picture, whether it was shown.
    std::uint32_t lastInputTick() const { return LastInputTick; }
    void setLastInputTick(std::uint32_t tick) { LastInputTick = tick; }
    const QString& advLink() const { return AdvLink; }
    const QString& advLocalFile() const { return AdvLocalFile; }
    bool advShown() const { return AdvShown; }
    void setAdvShown(bool shown) { AdvShown = shown; }

    vx::CalcState& state() { return m_state; }
    vx::Calc& calc() { return m_calc; }

    // Components and their handlers
    using Handler = std::function<void()>;
    QWidget* component(vx::Field name) const; // null when there is none of that name
    void addChangeHandler(vx::Field name, Handler handler); // line edits and spin editors
    void addExitHandler(vx::Field name, Handler handler);
    void runExitHandlers(vx::Field name);

    // vx::Form
    char decimalSeparator() const override;
    std::string text(vx::Field f) const override;
    void setText(vx::Field f, const std::string& s) override;
    void setFontColour(vx::Field f, vx::Colour c) override;
    void setVisible(vx::Field f, bool visible) override;
    void setActiveControl(vx::Field f) override;
    vx::MsgAnswer message(vx::MsgType type, const std::string& text,
                          vx::MsgButtons buttons = vx::MsgButtons::Ok) override;
    int spinValue(vx::Field f) const override;
    void setSpinValue(vx::Field f, int value) override;
    int selectorIndex(vx::Field f) const override;
    void setSelectorIndex(vx::Field f, int index) override;
    int shapeButtonDown() const override;
    using QWidget::setVisible;

    // Source editors (TF_MainEditors.cpp). The closing also calls the exit handler of the cone diameter or
    // area that has the focus, the geometry button the diameter's; the project load SpinEdNPortsChange.
    void EditDdExit() override;
    void EditSdExit();
    void SpinEdNPortsChange();

    // Shape choice and pages (TF_MainShapes.cpp)
    void SBut1Click();
    void SBut2Click();
    void SBut3Click();
    void SBut4Click();
    void SBut5Click();
    void SBut6Click();
    void ComboPortTypeChange();
    void RedrawImage();
    // The show handlers of the pages TabSheet1 .. TabSheet12 (page index = PortType), which the page
    // control runs when that page becomes visible: each is pageShown of its page.
    void TabSheet1Show() { pageShown(vx::TUB); }
    void TabSheet2Show() { pageShown(vx::CONE); }
    void TabSheet3Show() { pageShown(vx::TUBCONE); }
    void TabSheet4Show() { pageShown(vx::CONETUBCONE); }
    void TabSheet5Show() { pageShown(vx::BOX); }
    void TabSheet6Show() { pageShown(vx::PRISM); }
    void TabSheet7Show() { pageShown(vx::BOXPRISM); }
    void TabSheet8Show() { pageShown(vx::PRISMBOXPRISM); }
    void TabSheet9Show() { pageShown(vx::CURVECONE); }
    void TabSheet10Show() { pageShown(vx::CURVEFLAT); }
    void TabSheet11Show() { pageShown(vx::FLARETUBE); }
    void TabSheet12Show() { pageShown(vx::FLAREFLAT); }

    // Start-up, closing and projects (projects/TF_MainProjects.cpp)
    void FormCreate();
    void FormClose();
    void LoadProject(const QString& S);
    // Writes the window's project into section S (upper-cased) and loads it back; false when the write
    // failed (the user has been told). Nothing needs writing for the start-up project unchanged: true.
    bool SaveProject(const QString& S);
    void IniWriteRefused(); // the one warning of a run that the settings file takes no writes
    // Web content that the start-up and closing run
    void LoadAdv();
    void FillSGBrands();
    void DeleteAdvFile();

    // Project commands (projects/TF_MainCommands.cpp)
    void BoButNewClick();
    void BoButOpenClick();
    void BoButSaveClick();
    void BoButDelClick();

    // Window frame, printing, banner, side windows and web content
    void BoButPrintClick();
    void BoButCalcClick();
    void BoButHlpClick();
    void Button1Click();
    void EnableButtons(bool Ind);
    void BoButAdvClick();
    void SBCarSoundClick();
    void ButP12CloceClick();
    void SBConePrintClick();
    void SBFConePrintClick();
    void FormShow();
    void FormActivate();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    // The banner's pointer handlers (positions in the port panel for Panel3MouseMove)
    void Image12MouseMove();
    void Image12MouseUp(Qt::MouseButton Button);
    void Panel3MouseMove(int X, int Y);
    // Opens Str in the web browser when Button is the left button.
    void ProcLink(Qt::MouseButton Button, const QString& Str);
    // The brands navigator and the site-address labels (web/TF_MainLinks.cpp)
    void SGBrandsSelectCell();
    void SGBrandsKeyUp();
    void SGBrandsMouseUp();
    void SGBrandsDblClick();
    void Label133MouseUp(Qt::MouseButton Button);
    void Label134MouseUp(Qt::MouseButton Button);
    void LbURLMouseMove();
    void LbURL0MouseMove();
    void Panel5MouseMove(int X, int Y);
    void LbURLMouseUp(Qt::MouseButton Button);
    QString GetId(); // a new client identifier from the frame clock's date and time

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The tests' way to the state that only the start-up and the advert fetch set (tests/support).
    friend struct TF_MainTestAccess;

    void pageShown(int page); // the show handler of page TabSheet<page + 1>
    // Widgets by their component names, as laid out in TF_Main.ui.
    Ui::TF_Main* ui;

    QTimer* Timer1; // banner timer, 10000 ms, started when the splash window closes
    QTimer* Timer2; // banner slide, 30 ms
    QTimer* Timer3; // advert idle check, 1000 ms

    bool ProjectModified = false;
    QString CurrentProject, StartupProject, IniPath;
    std::unique_ptr<vx::IniFile> ProjectIni; // the settings file on IniPath, opened by the start-up
    double StartLeft = 0, StartTop = 0;      // the window's position when start-up ended
    QString ClientId;                        // "id" of "DEFAULT", or "default"
    bool IniRefusalShown = false;            // the settings file refused a write and the user was told
    // Set by the start-up when the program cannot go on (no sprite sheet): the program then ends after
    // start-up instead of entering normal use.
    bool EndRequested = false;
    std::uint32_t LastInputTick = 0; // the tick of the last keyboard or mouse input
    // The advert (web/TF_MainAdvert.cpp): the index fetched at start, the idle watch, the client id
    QString AdvLink;      // where a click on the advert leads
    QString AdvLocalFile; // the advert picture beside the executable, empty when the index named none
    bool AdvShown = false; // the advert window has been shown in this run
    bool AdvFileWritten = false; // this run put the picture at AdvLocalFile, so the closing removes it

    void EditNdExit();      // TF_MainEditors.cpp
    void shapeClick(int n); // TF_MainShapes.cpp: SBut<n>Click, which the project load runs too
    void connectEditors();  // TF_MainEditors.cpp
    void connectShapes();   // TF_MainShapes.cpp
    void connectFrame();    // TF_MainFrame.cpp
    void connectLinks();    // web/TF_MainLinks.cpp
    void onFocusChanged(QWidget* old, QWidget* now);
    std::string componentNameOf(QWidget* w) const;

    vx::CalcState m_state;
    vx::Calc m_calc{*this, m_state};
    std::map<std::string, QWidget*, std::less<>> m_components;
    std::map<std::string, std::vector<Handler>, std::less<>> m_exitHandlers;
    QMetaObject::Connection m_focusConnection;
    int m_pendingPage = -1; // shown during a page switch, its handler runs when the switch ends
};
