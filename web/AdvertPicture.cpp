#include "web/AdvertPicture.h"

#include "platform/PictureFile.h"

namespace vx {

QPixmap AdvertPicture::get(const QString& path, QSize room)
{
    if (!m_read || path != m_path) {
        m_path = path;
        m_read = true;
        const QImage image = PictureFile::load(path, room); // null for no name too
        m_picture = image.isNull() ? QPixmap() : QPixmap::fromImage(image);
    }
    if (m_picture.isNull() || room.isEmpty() || (m_picture.width() <= room.width() && m_picture.height() <= room.height()))
        return m_picture;
    return m_picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace vx
