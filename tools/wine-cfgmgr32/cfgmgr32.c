/* A stand-in for Wine 8.0's cfgmgr32.dll, for the test of the Windows
 * programs in the virtual machine only: never shipped, never linked into a
 * program. hidapi lists HID devices through the configuration manager, which
 * Wine 8.0 leaves half done: CM_Get_Device_Interface_List_SizeW answers
 * CR_FAILURE, CM_Get_Device_Interface_ListW is a stub that raises an
 * exception, and CM_Get_Device_Interface_PropertyW is missing, so hid_init()
 * fails. These three are answered here from SetupAPI, which Wine does
 * implement; everything else Wine's cfgmgr32 exports is forwarded where
 * Wine's own forwards go (cfgmgr32.def). */
#define _CFGMGR32_ /* our own definitions, not imports */
#include <windows.h>
/* after windows.h, whose types they use */
#include <cfgmgr32.h>
#include <devpropdef.h>
#include <objbase.h>
#include <setupapi.h>

/* Not in MinGW's cfgmgr32.h. */
CONFIGRET WINAPI CM_Get_Device_Interface_PropertyW(LPCWSTR path, const DEVPROPKEY* key, DEVPROPTYPE* type,
                                                   PBYTE buffer, PULONG size, ULONG flags);

/* {78C34FC8-104A-4ACA-9EA4-524D52996E57}, 256: the instance id of the device
 * that offers an interface. */
static const DEVPROPKEY instance_id_key = {
    {0x78c34fc8, 0x104a, 0x4aca, {0x9e, 0xa4, 0x52, 0x4d, 0x52, 0x99, 0x6e, 0x57}}, 256};

/* The detail of one interface of `set`, or NULL; with the device that offers it. */
static SP_DEVICE_INTERFACE_DETAIL_DATA_W* interface_detail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA* iface,
                                                           SP_DEVINFO_DATA* device) {
    DWORD bytes = 0;
    SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail;

    SetupDiGetDeviceInterfaceDetailW(set, iface, NULL, 0, &bytes, NULL);
    if (bytes < sizeof(*detail)) return NULL;
    detail = HeapAlloc(GetProcessHeap(), 0, bytes);
    if (!detail) return NULL;
    detail->cbSize = sizeof(*detail);
    if (device) device->cbSize = sizeof(*device);
    if (!SetupDiGetDeviceInterfaceDetailW(set, iface, detail, bytes, NULL, device)) {
        HeapFree(GetProcessHeap(), 0, detail);
        return NULL;
    }
    return detail;
}

/* The paths of the interfaces of `class`, each ended by a zero and the list
 * by another, as the configuration manager gives them; `chars` counts every
 * character with the last zero. */
static CONFIGRET interface_list(const GUID* class, const WCHAR* device_id, ULONG flags, WCHAR** list,
                                ULONG* chars) {
    DWORD which = DIGCF_DEVICEINTERFACE;
    HDEVINFO set;
    SP_DEVICE_INTERFACE_DATA iface;
    DWORD index;
    ULONG used = 0, capacity = 256;
    WCHAR* paths;

    if (flags & ~CM_GET_DEVICE_INTERFACE_LIST_ALL_DEVICES) return CR_INVALID_FLAG;
    if (!(flags & CM_GET_DEVICE_INTERFACE_LIST_ALL_DEVICES)) which |= DIGCF_PRESENT;
    set = SetupDiGetClassDevsW(class, device_id, NULL, which);
    if (set == INVALID_HANDLE_VALUE) return CR_FAILURE;
    paths = HeapAlloc(GetProcessHeap(), 0, capacity * sizeof(WCHAR));
    if (!paths) {
        SetupDiDestroyDeviceInfoList(set);
        return CR_OUT_OF_MEMORY;
    }
    iface.cbSize = sizeof(iface);
    for (index = 0; SetupDiEnumDeviceInterfaces(set, NULL, class, index, &iface); ++index) {
        SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail = interface_detail(set, &iface, NULL);
        ULONG length;
        if (!detail) continue;
        length = lstrlenW(detail->DevicePath) + 1;
        if (used + length + 1 > capacity) {
            WCHAR* larger;
            while (used + length + 1 > capacity) capacity *= 2;
            larger = HeapReAlloc(GetProcessHeap(), 0, paths, capacity * sizeof(WCHAR));
            if (!larger) {
                HeapFree(GetProcessHeap(), 0, detail);
                HeapFree(GetProcessHeap(), 0, paths);
                SetupDiDestroyDeviceInfoList(set);
                return CR_OUT_OF_MEMORY;
            }
            paths = larger;
        }
        memcpy(paths + used, detail->DevicePath, length * sizeof(WCHAR));
        used += length;
        HeapFree(GetProcessHeap(), 0, detail);
    }
    SetupDiDestroyDeviceInfoList(set);
    paths[used++] = 0;
    *list = paths;
    *chars = used;
    return CR_SUCCESS;
}

CONFIGRET WINAPI CM_Get_Device_Interface_List_SizeW(PULONG length, LPGUID class, DEVINSTID_W device_id,
                                                    ULONG flags) {
    WCHAR* list;
    CONFIGRET result;

    if (!length || !class) return CR_INVALID_POINTER;
    result = interface_list(class, device_id, flags, &list, length);
    if (result == CR_SUCCESS) HeapFree(GetProcessHeap(), 0, list);
    return result;
}

CONFIGRET WINAPI CM_Get_Device_Interface_ListW(LPGUID class, DEVINSTID_W device_id, PWCHAR buffer,
                                               ULONG buffer_length, ULONG flags) {
    WCHAR* list;
    ULONG chars;
    CONFIGRET result;

    if (!class || !buffer || !buffer_length) return CR_INVALID_POINTER;
    result = interface_list(class, device_id, flags, &list, &chars);
    if (result != CR_SUCCESS) return result;
    if (chars > buffer_length)
        result = CR_BUFFER_SMALL;
    else
        memcpy(buffer, list, chars * sizeof(WCHAR));
    HeapFree(GetProcessHeap(), 0, list);
    return result;
}

/* The device that offers the interface at `path`, found among the interfaces
 * of the class the path ends with (Wine has no SetupDiOpenDeviceInterfaceW). */
static BOOL interface_device(LPCWSTR path, HDEVINFO* set, SP_DEVINFO_DATA* device) {
    const WCHAR* brace = wcsrchr(path, L'{');
    GUID class;
    SP_DEVICE_INTERFACE_DATA iface;
    DWORD index;

    if (!brace || FAILED(CLSIDFromString(brace, &class))) return FALSE;
    *set = SetupDiGetClassDevsW(&class, NULL, NULL, DIGCF_DEVICEINTERFACE);
    if (*set == INVALID_HANDLE_VALUE) return FALSE;
    iface.cbSize = sizeof(iface);
    for (index = 0; SetupDiEnumDeviceInterfaces(*set, NULL, &class, index, &iface); ++index) {
        SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail = interface_detail(*set, &iface, device);
        BOOL same;
        if (!detail) continue;
        same = !lstrcmpiW(detail->DevicePath, path);
        HeapFree(GetProcessHeap(), 0, detail);
        if (same) return TRUE;
    }
    SetupDiDestroyDeviceInfoList(*set);
    return FALSE;
}

/* Of an interface's properties only the one hidapi reads: the instance id of
 * its device. */
CONFIGRET WINAPI CM_Get_Device_Interface_PropertyW(LPCWSTR path, const DEVPROPKEY* key, DEVPROPTYPE* type,
                                                   PBYTE buffer, PULONG size, ULONG flags) {
    HDEVINFO set;
    SP_DEVINFO_DATA device;
    DWORD chars = 0;
    CONFIGRET result;

    if (!path || !key || !type || !size || (!buffer && *size)) return CR_INVALID_POINTER;
    if (flags) return CR_INVALID_FLAG;
    if (!interface_device(path, &set, &device)) return CR_NO_SUCH_DEVICE_INTERFACE;
    if (memcmp(key, &instance_id_key, sizeof(*key))) {
        SetupDiDestroyDeviceInfoList(set);
        *type = DEVPROP_TYPE_EMPTY;
        *size = 0;
        return CR_NO_SUCH_VALUE;
    }
    SetupDiGetDeviceInstanceIdW(set, &device, NULL, 0, &chars);
    *type = DEVPROP_TYPE_STRING;
    if (!chars)
        result = CR_FAILURE;
    else if (!buffer || *size < chars * sizeof(WCHAR))
        result = CR_BUFFER_SMALL;
    else if (!SetupDiGetDeviceInstanceIdW(set, &device, (PWSTR)buffer, chars, NULL))
        result = CR_FAILURE;
    else
        result = CR_SUCCESS;
    *size = chars * sizeof(WCHAR);
    SetupDiDestroyDeviceInfoList(set);
    return result;
}
