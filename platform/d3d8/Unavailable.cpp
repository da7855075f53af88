// Entry points whose renderer is not in this build yet: each fails cleanly, so programs link and
// report "no device" instead of crashing.
#include "d3dx8.h"
#include "yonda_d3d8.h"
#include "yonda_present.h"

HRESULT WINAPI D3DXCreateTextureFromFileA(IDirect3DDevice8*, LPCSTR, IDirect3DTexture8** ppTexture)
{
    if (ppTexture) *ppTexture = nullptr;
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI D3DXCreateTextureFromFileInMemory(IDirect3DDevice8*, LPCVOID, UINT, IDirect3DTexture8** ppTexture)
{
    if (ppTexture) *ppTexture = nullptr;
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI D3DXCreateTextureFromFileExA(IDirect3DDevice8*, LPCSTR, UINT, UINT, UINT, DWORD, D3DFORMAT, D3DPOOL,
                                            DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*, tagPALETTEENTRY*,
                                            IDirect3DTexture8** ppTexture)
{
    if (ppTexture) *ppTexture = nullptr;
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8*, LPCVOID, UINT, UINT, UINT, UINT, DWORD,
                                                   D3DFORMAT, D3DPOOL, DWORD, DWORD, D3DCOLOR, D3DXIMAGE_INFO*,
                                                   tagPALETTEENTRY*, IDirect3DTexture8** ppTexture)
{
    if (ppTexture) *ppTexture = nullptr;
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR, D3DXIMAGE_INFO*) { return D3DERR_NOTAVAILABLE; }

HRESULT WINAPI D3DXSaveSurfaceToFileA(LPCSTR, D3DXIMAGE_FILEFORMAT, IDirect3DSurface8*, const tagPALETTEENTRY*,
                                      const RECT*)
{
    return D3DERR_NOTAVAILABLE;
}

HRESULT WINAPI D3DXCreateFontIndirect(IDirect3DDevice8*, const LOGFONTA*, ID3DXFont** ppFont)
{
    if (ppFont) *ppFont = nullptr;
    return D3DERR_NOTAVAILABLE;
}

