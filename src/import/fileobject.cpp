#include "import/fileobject.h"

#include "core/settings.h"

FileObject::FileObject() : FileObject(getDateFormat(), getDateTimeFormat(), getTimeFormat()) {}

FileObject::FileObject(const QString& dateFormat, const QString& datetimeFormat, const QString& timeFormat)
    : m_dateFormat(dateFormat), m_datetimeFormat(datetimeFormat), m_timeFormat(timeFormat)
{
}
