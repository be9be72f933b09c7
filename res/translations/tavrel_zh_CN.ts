<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>tavrel</name>
    <message>
        <source>no such file</source>
        <translation>文件不存在</translation>
    </message>
    <message>
        <source>is a folder, not a picture</source>
        <translation>是一个文件夹，不是图像</translation>
    </message>
    <message>
        <source>is not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>没有读取权限</translation>
    </message>
    <message>
        <source>tavrel-gif: %1 (see tavrel-gif --help)</source>
        <translation>tavrel-gif：%1（参见 tavrel-gif --help）</translation>
    </message>
    <message>
        <source>tavrel-gif: the image codecs could not be started</source>
        <translation>tavrel-gif：图像组件无法启动</translation>
    </message>
    <message>
        <source>tavrel-gif: interrupted, nothing written</source>
        <translation>tavrel-gif：已中断，没有写入任何文件</translation>
    </message>
</context>
</TS>
