#pragma once
// What only the start-up and the advert fetch set in a run of the program, set directly by a test that
// starts from a given state: the client identifier, the advert's link and local picture, and the project
// the start-up opened.

#include "app/TF_Main.h"

#include <QString>

struct TF_MainTestAccess {
    static void setClientId(TF_Main& w, const QString& id) { w.ClientId = id; }
    static void setAdvLink(TF_Main& w, const QString& link) { w.AdvLink = link; }
    static void setAdvLocalFile(TF_Main& w, const QString& file) { w.AdvLocalFile = file; }
    static void setStartupProject(TF_Main& w, const QString& name) { w.StartupProject = name; }
};
