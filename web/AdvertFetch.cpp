#include "web/AdvertFetch.h"

#include "core/Version.h"
#include "platform/DialogService.h"
#include "platform/HttpClient.h"
#include "platform/NewFile.h"
#include "platform/PictureFile.h"
#include "platform/SiteBase.h"
#include "web/BoxText.h"
#include "web/FetchBudget.h"
#include "web/DownloadProgress.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <initializer_list>
#include <stdexcept>

namespace vx {

namespace {

constexpr const char* kIndexPath = "images/adv.txt";

// The download's own file could not be made: nothing was written, nothing is there to remove.
class NoFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The first n characters; none for an n below 1, all of them for an n beyond the length.
QString firstChars(const QString& s, qsizetype n) { return n < 1 ? QString() : s.left(n); }

// The index's three lines: line 1 is the picture path, a TAB and the link; line 2 the version; the
// rest is any text, "..", and the new version's path. Lines end in CR LF; a lone LF costs the line its
// last character, as the index has always been read.
struct AdvertIndex {
    QString link, picturePath, version, tail;
};

AdvertIndex splitIndex(const QString& T)
{
    AdvertIndex index;
    const qsizetype a = T.indexOf(u'\n') + 1;
    const QString line1 = firstChars(T, a - 2);
    const QString R = T.mid(a);
    const qsizetype b = R.indexOf(u'\n') + 1;
    index.version = firstChars(R, b - 2);
    index.tail = R.mid(b);
    const qsizetype t = line1.indexOf(u'\t') + 1;
    index.link = line1.mid(t);
    index.picturePath = firstChars(line1, t - 1);
    return index;
}

// Only digits, ASCII letters, ".", "/" and "_" survive in a picture path.
QString filteredPath(const QString& path)
{
    QString out;
    for (const QChar c : path) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || u == u'.' ||
            u == u'/' || u == u'_')
            out += c;
    }
    return out;
}

QString lastSegment(const QString& path) { return path.mid(path.lastIndexOf(u'/') + 1); }

// Whether a download may take this name beside the executable. Never the name of a file the program
// reads or writes there (in any letter case, for a file system that ignores it), nor one that Qt reads
// there at every start (a qt.conf naming no plugins would keep the program from ever starting again),
// nor the other download's name: a site that named one would cost the user the projects, the sprite
// sheet, the brands list, the program or the new version. A name that is no file (empty, "." or "..")
// cannot be made either. (A name with a control character, a NUL above all, or with a format character,
// such as a direction override, is refused where the file is made.)
bool mayTake(const QString& name, const QString& otherDownload)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    const QString exe = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    for (const QString& taken : {QStringLiteral("Vornalex.ini"), QStringLiteral("Vornalex.BMP"),
                                 QStringLiteral("brands.csv"), QStringLiteral("qt.conf"), QStringLiteral("qt6.conf"),
                                 exe, otherDownload})
        if (!taken.isEmpty() && name.compare(taken, Qt::CaseInsensitive) == 0)
            return false;
    return true;
}

// The body of a GET of fileURL into the file FileName, which must not exist yet: a file already beside
// the program is never replaced and a link there is never followed. The bytes go to a temporary file,
// which takes the name only once every byte has arrived and is on the disk: a failed, stopped or cut
// download leaves nothing. Raises NoFileError when the file cannot be made, HttpError when the transfer
// or the write fails.
void GetInetFile(const QString& fileURL, const QString& FileName, const HttpLimits& limits,
                 const HttpProgress& progress = {})
{
    NewFile file(FileName);
    if (!file.open())
        throw NoFileError("Cannot create file " + FileName.toStdString());
    http().getInto(fileURL, file.device(), limits, progress);
    if (!file.place())
        throw HttpError("Cannot write file " + FileName.toStdString());
}

// The offer of another version and, on Yes, its download. Tells whether the fetch goes on to the
// picture: not when a failed download left no file of its own to remove.
bool offerVersion(const AdvertIndex& index, const QString& base, const QString& folder, const QString& pictureName)
{
    const MsgAnswer answer = dialogs().show(
        MsgType::Confirmation, QStringLiteral("Доступна версия ") + boxText(index.version) + QStringLiteral(" Vornalex.\rСкачать?"),
        MsgButtons::YesNo, nullptr);
    if (answer != MsgAnswer::Yes)
        return true;
    const qsizetype dots = index.tail.indexOf(QStringLiteral(".."));
    const QString path = dots < 0 ? QString() : index.tail.mid(dots + 2);
    const QString name = lastSegment(path);
    const QString local = folder + name;
    try {
        if (!mayTake(name, pictureName) || !NewFile::mayCreate(local))
            throw NoFileError("Refused to write " + name.toStdString());
        DownloadProgress window;
        window.show();
        GetInetFile(base + path, local, webLimits().version,
                    [&window](qint64 received, qint64 announced) { return window.update(received, announced); });
    } catch (const std::exception& e) {
        dialogs().show(MsgType::Warning,
                       QStringLiteral("Не удалось скачать версию ") + boxText(index.version) + QStringLiteral(" Vornalex."),
                       MsgButtons::Ok, nullptr);
        // A transfer that failed or was stopped has already taken its partial file away; one that could
        // not make its file has nothing to remove, and the fetch ends there.
        return dynamic_cast<const NoFileError*>(&e) == nullptr;
    }
    dialogs().show(MsgType::Information,
                   QStringLiteral("Версия ") + boxText(index.version) + QStringLiteral(" Vornalex находится в файле\r") +
                       boxText(local),
                   MsgButtons::Ok, nullptr);
    return true;
}

// A file already stands under the picture's name: a user's own, or the picture of a run that ended
// before its closing could remove it. It is never replaced. The advert is shown from it only when it is a
// plain file holding exactly the site's picture; the closing leaves it where it is.
// The site's picture is asked for within what is left of the start-up's time.
bool holdsSitePicture(const QString& path, const QString& url, FetchBudget& startup)
{
    const HttpLimits& limits = webLimits().picture;
    const std::optional<QByteArray> local = readPlainFile(path, limits.maxBytes);
    if (!local)
        return false;
    try {
        return startup.run(limits, [&](const HttpLimits& cut) { return http().get(url, cut); }) == *local;
    } catch (const std::exception&) {
        return false;
    }
}

} // namespace

Advert fetchAdvert(const QString& folder)
{
    Advert advert;
    const QString base = siteBase();
    // The index and the picture share one deadline: nothing is on screen while they are fetched.
    FetchBudget startup(webLimits().startupMs);
    try {
        const AdvertIndex index = splitIndex(QString::fromUtf8(startup.run(
            webLimits().index, [&](const HttpLimits& limits) { return http().get(base + QLatin1String(kIndexPath), limits); })));
        advert.link = index.link;
        const QString filtered = filteredPath(index.picturePath);
        // The picture is kept only under a name the advert window can load, so it never takes the name
        // of anything else the site might point at.
        const QString pictureName = lastSegment(filtered);
        const bool pictureWanted =
            !index.picturePath.isEmpty() && PictureFile::knowsExtension(pictureName) && mayTake(pictureName, {});
        if (index.version != QLatin1String(kProgramVersion) &&
            !offerVersion(index, base, folder, pictureWanted ? pictureName : QString()))
            return advert;
        if (!pictureWanted)
            return advert;
        advert.localFile = folder + pictureName;
        if (NewFile::taken(advert.localFile)) {
            if (!holdsSitePicture(advert.localFile, base + filtered, startup))
                advert.localFile.clear();
            return advert;
        }
        try {
            startup.run(webLimits().picture,
                        [&](const HttpLimits& limits) { GetInetFile(base + filtered, advert.localFile, limits); });
            advert.pictureWritten = true;
        } catch (const std::exception&) {
            // no picture: the advert window shows a saying
        }
    } catch (const std::exception&) {
        // offline or no index: nothing to offer, nothing to show
    }
    return advert;
}

} // namespace vx
