#pragma once

#include "BenchCatalogue.h"

#include "browser/frmMain.h"
#include "shared/Session.h"

#include <memory>

// A main window with its own session, started on a generated catalogue.
struct OpenedWindow
{
    std::unique_ptr<Session> session = std::make_unique<Session>();
    std::unique_ptr<frmMain> window;
    frmMain* operator->() const { return window.get(); }
};

inline OpenedWindow OpenWindow(int recordings)
{
    OpenedWindow opened;
    opened.window = std::make_unique<frmMain>(*opened.session);
    opened.window->setProgramDirectory(BenchCatalogue::folder(recordings));
    opened.window->Form_Load();
    return opened;
}
