#pragma once

// The icons a file offers for a launcher slot, as pictures: the icon groups of
// a program or library, the one icon of an icon file, and for a document the
// icon its type has on this desktop.

#include <QImage>
#include <QList>
#include <QString>

namespace kz::modPicture {

// Pictures come out at the system's large icon size.
inline constexpr int kIconSide = 32;

// Number of icons the file holds: its icon groups for a program or library
// (recognised by content, whatever the extension), 1 for an icon file, 0 for
// an empty path, a path that names no file, a file without icons, or one that
// cannot be read. A path that names no file costs one stat, nothing more.
int IconCount(const QString& path);

// Icon `index` (0-based) of the file as a kIconSide x kIconSide ARGB32 image
// with its transparency, taken from the icon's image that fits that size best
// (the deepest colours among equals) and scaled only when it has none of that
// size. Null for a negative index, an empty path, no such icon, or an image
// that cannot be decoded.
QImage IconPicture(const QString& path, int index);

// True when the file's type has an icon on this desktop (its MIME type's icon
// in the current icon theme). Files of an unknown type, folders and missing
// files have none. For documents that hold no icons of their own.
bool HasAssociatedIcon(const QString& path);

// That icon as a kIconSide x kIconSide ARGB32 image; null when there is none.
QImage AssociatedIcon(const QString& path);

// The general picture loader: any picture file, its format told by the
// content (an icon file's bitmap under an .ico name loads too). Of a file with
// several images, the 32 x 32 one, else the first. Null when nothing loads.
QImage LoadPicture(const QString& path);

// Every image of the file, in stored order (at most `most`).
QList<QImage> LoadAllPictures(const QString& path, int most = 64);

} // namespace kz::modPicture
