#include "platform/gototesmabas.h"

#include "platform/Globals.h"
#include "platform/MsgBox.h"
#include "platform/Paths.h"
#include "platform/Shell.h"

#ifndef KIVRO_MAKER_SITE
#define KIVRO_MAKER_SITE "https://tesma.example"
#endif
#ifndef KIVRO_SUPPORT_MAIL
#define KIVRO_SUPPORT_MAIL "support@tesma.example"
#endif

namespace kivro {

QString MakerSite()
{
    QString site = QStringLiteral(KIVRO_MAKER_SITE);
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}

QString SupportMailAddress()
{
    return QStringLiteral(KIVRO_SUPPORT_MAIL);
}

namespace gototesmabas {

QString HelpFilePath()
{
    return paths::joinPath(gAppPath, QStringLiteral("Kivro.html"));
}

void OpenFileOrReportMissing(const QString& path)
{
    if (win::ShellExecute(path) == win::SE_ERR_FNF)
        MsgBoxResult(QLatin1Char('\'') + path + QStringLiteral("' was not found!"), vbCritical | vbOKOnly | vbTopMost);
}

void OpenHelpFile()
{
    OpenFileOrReportMissing(HelpFilePath());
}

void SendMailTo(const QString& address)
{
    win::ShellExecute(QStringLiteral("mailto:") + address);
}

QString HomePageAddress()
{
    return MakerSite() + QStringLiteral("/");
}

QString SupportPageAddress()
{
    return MakerSite() + QStringLiteral("/support");
}

QString FAQPageAddress()
{
    return MakerSite() + QStringLiteral("/faq");
}

QString ProductPageAddress()
{
    return MakerSite() + QStringLiteral("/kivro");
}

void GoToHomePage()
{
    win::ShellExecute(HomePageAddress());
}

void GoToSupportPage()
{
    win::ShellExecute(SupportPageAddress());
}

void GoToFAQPage()
{
    win::ShellExecute(FAQPageAddress());
}

void GoToProductPage()
{
    win::ShellExecute(ProductPageAddress());
}

} // namespace gototesmabas
} // namespace kivro
