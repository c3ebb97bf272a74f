#include "engine/CrcClmulCore.h"

namespace kavrin {

__attribute__((target(KAVRIN_CLMUL_TARGET))) KAVRIN_REALIGN_STACK std::uint32_t CrcUpdatePclmul(
    std::uint32_t state, const void* data, std::size_t len)
{
    return crcfold::Update128(state, static_cast<const std::uint8_t*>(data), len);
}

} // namespace kavrin
