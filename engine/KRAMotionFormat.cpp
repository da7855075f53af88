#include "KRAMotionFormat.h"

#include "KRAByteReader.h"

namespace {

LONG Parse(CKRAByteReader& reader, KRA_MOTION_FILE_DATA& out)
{
    if (!reader.Bytes(out.abHeader, KRA_MOTION_HEADER_SIZE))
        return KRA_E_INVALID_ARGUMENT;
    CKRAByteReader header(out.abHeader, KRA_MOTION_HEADER_SIZE);
    header.Skip(68);
    out.dwKeyCount = header.U32();
    header.Skip(4);
    out.dwTrackCount = header.U32();
    header.Skip(4);
    out.dwDuration = header.U32();
    // Without keys there is no pose to sample; more tracks than bone matrices have nowhere to go.
    if (out.dwKeyCount == 0 || out.dwTrackCount > KRA_MOTION_TRACK_MAX)
        return KRA_E_INVALID_ARGUMENT;
    uint64_t nTrackBytes = 8 + uint64_t(out.dwKeyCount) * 24;
    if (!reader.Has(out.dwTrackCount, nTrackBytes))
        return KRA_E_INVALID_ARGUMENT;
    out.vTracks.resize(out.dwTrackCount);
    for (KRA_MOTION_TRACK_DATA& track : out.vTracks) {
        track.dwBone = reader.U32();
        reader.U32();
        track.vPositions.resize(size_t(out.dwKeyCount) * 3);
        reader.F32s(track.vPositions.data(), track.vPositions.size());
        track.vAngles.resize(size_t(out.dwKeyCount) * 3);
        reader.F32s(track.vAngles.data(), track.vAngles.size());
    }
    return reader.Ok() ? KRA_OK : KRA_E_INVALID_ARGUMENT;
}

} // namespace

LONG KRAParseMotionFile(const uint8_t* pData, size_t nSize, KRA_MOTION_FILE_DATA& out)
{
    out = KRA_MOTION_FILE_DATA();
    CKRAByteReader reader(pData, nSize);
    LONG lResult = Parse(reader, out);
    if (lResult != KRA_OK)
        out = KRA_MOTION_FILE_DATA();
    return lResult;
}
