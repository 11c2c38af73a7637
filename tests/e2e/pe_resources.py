"""Where each resource of a PE file lies in the file: the tests damage one in a copy of the setup,
and the bench weighs the payload's part of the setup."""
import struct


def resources(data):
    """{(type, name): (file offset, size)} of every resource in the PE image `data` (bytes); type
    and name are numbers or upper-case strings ("EXE"); of several languages the first counts."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", data, directories + 2 * 8)
    if not rsrc_size:
        return {}
    table = optional + optional_size

    def file_offset(rva):
        for i in range(sections):
            vsize, vaddr, raw_size, raw_offset = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            if vaddr <= rva < vaddr + max(vsize, raw_size):
                return rva - vaddr + raw_offset
        raise ValueError(f"RVA {rva:#x} is in no section")

    base = file_offset(rsrc_rva)

    def entries(offset):
        named, numbered = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", data, at)[0]
                name = data[at + 2:at + 2 + 2 * length].decode("utf-16-le").upper()
            yield name, target

    found = {}
    for rtype, types in entries(0):
        for rname, names in entries(types & 0x7FFFFFFF):
            for _, leaf in entries(names & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                found.setdefault((rtype, rname), (file_offset(rva), size))
    return found


def resource_bytes(data, rtype, name):
    """The bytes of one resource of the PE image `data`."""
    offset, size = resources(data)[(rtype, name)]
    return data[offset:offset + size]
