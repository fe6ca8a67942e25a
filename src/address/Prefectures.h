#pragma once

#include <QStringView>

// Japan's 47 prefectures by the numbers their local government codes begin with (1 北海道 to 47
// 沖縄県): Japan Post's files name them, the index stores the number.
namespace Prefectures {

constexpr int kCount = 47;

// The name of prefecture 1 to 47; empty for any other number.
QStringView name(int number);
// 1 to 47, or 0 for a name that is not a prefecture.
int number(QStringView name);

} // namespace Prefectures
