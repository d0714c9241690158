-- English resources.
name = "en"
filelist = {
    { name = "strings_xml", filename = "/en/strings.xml" },
}
