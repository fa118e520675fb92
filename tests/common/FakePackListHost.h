#pragma once
// The main window as the pack-list window sees it, for the pack-list window's tests: it records
// what the window asks of it and answers from its public fields. Names are 1,000 twips wide
// unless a test gives them another width (`widths`); the Magnet item is off and the main window
// has no place unless a test sets `magnet` and `mainWindow`. With `form` set, the save and open
// dialogs are the scripted ones (platform/FileDialogs.h) and a confirmed path goes into the
// form's WhichFileLbl, as the main window's do; without it they only record their call.
#include "engine/PackListModel.h"
#include "packlist/Brovletfrm.h"
#include "packlist/PackListHost.h"
#include "platform/FileDialogs.h"

#include <QHash>
#include <QLabel>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace kivrotest {

class FakePackListHost : public kivro::PackListHost {
public:
    kivro::PackListModel model;
    bool busy = false;
    bool magnet = false;
    kivro::TwipRect mainWindow{};
    std::int32_t maxWidth = 0;
    std::int32_t scanWidth = 0;
    QHash<QString, std::int32_t> widths;
    QHash<QString, QString> templates; // template name -> picture
    int refreshCalls = 0;              // refresh_filesel_lst
    int fileListRefreshes = 0;         // RefreshFileList
    QList<bool> enableCalls;           // EnableBottomMostFrm
    QList<bool> showPackListChecks;    // setShowPackListChecked
    kivro::Brovletfrm* form = nullptr;
    QStringList dialogCalls; // "filter|title|initial folder[|purpose]"

    kivro::PackListModel& packList() override { return model; }
    bool BusyIconVisible() const override { return busy; }
    std::int32_t PackListMaxWidth() const override { return maxWidth; }
    void setPackListMaxWidth(std::int32_t twips) override { maxWidth = twips; }
    std::int32_t PackListScanWidth() const override { return scanWidth; }
    void setPackListScanWidth(std::int32_t twips) override { scanWidth = twips; }
    std::int32_t selpos_lstlentst(const QString& name) override { return widths.value(name, 1000); }
    void refresh_filesel_lst() override { ++refreshCalls; }
    void EnableBottomMostFrm(bool Enable) override { enableCalls << Enable; }
    void RefreshFileList() override { ++fileListRefreshes; }
    kivro::TwipRect MainWindowTwips() const override { return mainWindow; }
    bool MagnetChecked() const override { return magnet; }
    QString TemplatePicture(const QString& name) const override { return templates.value(name); }
    void setShowPackListChecked(bool checked) override { showPackListChecks << checked; }

    void ShowSaveDialog(const QString& filter, const QString& title, const QString& initialFolder,
                        const QString& purpose) override
    {
        dialogCalls << QStringList{filter, title, initialFolder, purpose}.join(QLatin1Char('|'));
        if (!form)
            return;
        kivro::win::OPENFILENAME ofn;
        ofn.lpstrTitle = title;
        if (kivro::win::GetSaveFileNameA(ofn) && purpose == QLatin1String("SavePackList"))
            form->WhichFileLbl->setText(ofn.lpstrFile);
    }
    void ShowOpenDialog(const QString& filter, const QString& title, const QString& initialFolder) override
    {
        dialogCalls << QStringList{filter, title, initialFolder}.join(QLatin1Char('|'));
        if (!form)
            return;
        kivro::win::OPENFILENAME ofn;
        ofn.lpstrTitle = title;
        if (kivro::win::GetOpenFileNameA(ofn))
            form->WhichFileLbl->setText(ofn.lpstrFile);
    }
};

} // namespace kivrotest
