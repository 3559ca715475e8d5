#include "web/AdvertPicture.h"

#include "platform/FitSize.h"
#include "platform/PictureFile.h"

namespace vx {

QPixmap AdvertPicture::get(const QString& path, QSize room)
{
    if (!m_read || path != m_path) {
        m_path = path;
        m_read = true;
        m_picture = QPixmap();
        QImage image = PictureFile::load(path, room); // null for no name too
        // Handed over, not copied: one full-size picture at a time.
        if (!image.isNull())
            m_picture = QPixmap::fromImage(std::move(image));
    }
    const QSize shown = fitInto(m_picture.size(), room);
    if (m_picture.isNull() || shown == m_picture.size())
        return m_picture;
    return m_picture.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace vx
