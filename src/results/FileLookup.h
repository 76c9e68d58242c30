#pragma once

#include <QByteArrayView>

#include <cstddef>
#include <functional>

namespace vantrel {

// Looks up many files at once, for marking every row of a grid: the size of
// each path's entry (not following a final symbolic link), or -1 where
// there is none or it is a folder, as a look-up of each whole path would
// give. The look-ups run on several threads, and a folder found missing
// answers for every later path through it. `pathAt` is called
// from all of them and must only read; the bytes it returns must stay valid
// until the call returns. `sizes` receives `count` values, in path order.
void lookUpFileSizes(std::size_t count, const std::function<QByteArrayView(std::size_t)>& pathAt,
                     qint64* sizes);

}  // namespace vantrel
