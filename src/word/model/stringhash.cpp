#include "word/model/stringhash.h"

#include <QRandomGenerator>

namespace word::model::detail {

quint64 stringHashSeed()
{
    return QRandomGenerator::system()->generate64() | 1;
}

} // namespace word::model::detail
