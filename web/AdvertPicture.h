#pragma once
// The advert picture as the advert window shows it: read from its file once, at the first showing, and
// scaled down to the room the screen gives it, keeping its proportions. A large picture is decoded at a
// reduced scale, so neither its full size nor a copy per showing is ever in memory.

#include <QPixmap>
#include <QSize>
#include <QString>

namespace vx {

class AdvertPicture {
public:
    // The picture of the file at path, no larger than room (an empty room: any size); null when there is none (no name, no
    // file, a format the window cannot load, broken data). Read again only for another path; a
    // smaller room later gets the kept picture scaled down.
    QPixmap get(const QString& path, QSize room);

private:
    QString m_path;
    bool m_read = false;
    QPixmap m_picture;
};

} // namespace vx
